# The options dialog as the player's options button runs it, stored by the application.
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/COptionDlgTest.cpp dialog lirabox_options lirabox_player lirabox_app)
# The drive question as the player asks it, and the settings page.
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/DriveDlgTest.cpp dialog lirabox_options lirabox_player)
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/PortSettingsDlgTest.cpp dialog lirabox_options lirabox_player lirabox_app)
# Names for screen readers and the keyboard, over every dialog.
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/AccessibleNamesTest.cpp dialog lirabox_options lirabox_editor lirabox_player Qt6::Test)
