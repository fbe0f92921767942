target_sources(lirabox_player PRIVATE
  CPlayerDlg.h PlayerWindow.cpp PlayerPlayback.cpp PlayerTransport.cpp PlayerOrder.cpp PlayerProgress.cpp)
target_compile_definitions(lirabox_player PRIVATE LIRABOX_VERSION="${PROJECT_VERSION}")
target_sources(lirabox_player PRIVATE CMciWnd.h CMciWnd.cpp)
