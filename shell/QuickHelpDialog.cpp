#include "shell/QuickHelpDialog.h"

#include "shell/QuickHelpText.h"
#include "shell/UserMessages.h"

namespace vantreel {

void ShowQuickHelp(UserMessages& messages) {
    messages.Show({kQuickHelpText, "Vantreel", MessageIcon::Information});
}

} // namespace vantreel
