#include "ui/about_dlg.h"

#include "resources/resource.h"

CAboutDlg::CAboutDlg(framework::Dialog* parent) : framework::Dialog(IDD_ABOUTBOX, parent) {}
