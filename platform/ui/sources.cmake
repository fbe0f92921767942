target_sources(lirabox_platform PRIVATE
  ui/WinTypes.h ui/MessageBox.h ui/MessageBox.cpp ui/FileDialog.h ui/FileDialog.cpp ui/Help.h ui/Help.cpp
  ui/DialogTemplate.h ui/DialogTemplate.cpp ui/CDialog.h ui/CDialog.cpp ui/Quit.h ui/Quit.cpp
  ui/CFileOpenDlg.h ui/CFileOpenDlg.cpp)
