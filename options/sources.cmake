target_sources(lirabox_options PRIVATE COptionDlg.h COptionDlg.cpp CDriveDlg.h CDriveDlg.cpp CPortSettingsDlg.h
  CPortSettingsDlg.cpp PortSettingsSources.cpp)
