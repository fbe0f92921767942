target_sources(lirabox_app PRIVATE
  CPlayerApp.h CPlayerApp.cpp CommandLine.h CommandLine.cpp SettingsStore.h SettingsStore.cpp IniText.h IniText.cpp)
