target_sources(lirabox_options PRIVATE COptionDlg.h COptionDlg.cpp)
