// The About box, template 100: nothing of its own beyond the dialog's
// handling. Run modally over the main window; user-interface thread only.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public framework::Dialog {
 public:
  explicit CAboutDlg(framework::Dialog* parent = nullptr);
};
