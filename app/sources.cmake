target_sources(lirabox_app PRIVATE
  CPlayerApp.h CPlayerApp.cpp SettingsStore.h SettingsStore.cpp)
