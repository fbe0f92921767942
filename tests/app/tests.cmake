lirabox_add_test(app/SettingsTest.cpp unit lirabox_app)
lirabox_add_test(app/CommandLineTest.cpp unit lirabox_app)
