// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPrefsTab.h"

namespace Mx {

PrefsTab::PrefsTab(const QString &section, QWidget *parent) : QWidget(parent), mSection(section) {}

} // namespace Mx
