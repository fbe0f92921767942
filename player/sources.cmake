target_sources(lirabox_player PRIVATE
  CPlayerDlg.h PlayerState.h PlayerState.cpp TitleListModel.h TitleListModel.cpp PlayerWindow.cpp PlayerPlayback.cpp PlayerTransport.cpp PlayerOrder.cpp PlayerProgress.cpp
  PlayerHistory.cpp PlayerCommands.cpp PlayerDrives.cpp)
target_sources(lirabox_player PRIVATE CMciWnd.h CMciWnd.cpp)
