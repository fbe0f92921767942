target_sources(lirabox_player PRIVATE
  CPlayerDlg.h PlayerWindow.cpp PlayerProgress.cpp PlayerPlayback.cpp)
target_compile_definitions(lirabox_player PRIVATE LIRABOX_VERSION="${PROJECT_VERSION}")
