lirabox_add_test(app/SettingsTest.cpp unit)
lirabox_add_test(app/CommandLineTest.cpp unit)
