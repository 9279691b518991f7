#include "framework/MxPrefsTab.h"

namespace Mx {

PrefsTab::PrefsTab(const QString &section, QWidget *parent) : QWidget(parent), mSection(section) {}

} // namespace Mx
