// The main window's menu handlers: Serial Ports and Help.
#include "app/main_window.h"
#include "app/selectport.h"
#include "framework/dialogs.h"
#include "framework/files.h"

namespace app {

void main::AddMenuHandlers() {
  AddMenuHandler("deviceport", [this](int index) { return _deviceport_Action(index); });
  AddMenuHandler("controllerport", [this](int) { return _controllerport_Action(); });
  AddMenuHandler("Helpmanual", [this](int) { return _Helpmanual_Action(); });
  AddMenuHandler("mFiles", [this](int) { return _mFiles_Action(); });
}

// The chooser reports row 0 for "none", which becomes -1 and closes the
// side's port; row k opens the machine's port k - 1. A row past the
// machine's current list (a port removed since the list was filled) makes
// the opening fail with its message.
bool main::_deviceport_Action(int32_t /*index*/) {
  selectport::instance().ShowModal();
  return opendeviceport(selectport::instance().SelectedIndex - 1);
}

bool main::_controllerport_Action() {
  selectport::instance().ShowModal();
  return opencontrollerport(selectport::instance().SelectedIndex - 1);
}

bool main::_Helpmanual_Action() { return true; }

// Two open-file dialogs, one after the other; the files chosen are not used.
bool main::_mFiles_Action() {
  fw::FileType pdf;
  pdf.Name = "pdf";
  pdf.MacType = "PDF ";
  pdf.Extensions = "pdf";

  fw::OpenDialog dialog;
  dialog.InitialDirectory = fw::Volume(0).Child("Documents").Path();
  dialog.Title = "Select a PDF file";
  dialog.Filter = pdf.Filter();
  dialog.ShowModal();

  fw::GetOpenFolderItem(pdf.Filter());
  return true;
}

}  // namespace app
