// SPDX-License-Identifier: GPL-3.0-or-later
// Small layout and widget conventions of the framework.
#pragma once

namespace Mx {

// Margin and spacing of dialogs and forms.
inline int stdSpace() { return 6; }

} // namespace Mx
