lirabox_add_test(player/PlayerWindowTest.cpp dialog lirabox_player)
lirabox_add_test(player/MciWndTest.cpp unit lirabox_player)
lirabox_add_test(player/PlayerTransportTest.cpp dialog lirabox_player)
# The history as the application stores it.
lirabox_add_test(player/PlayerHistoryTest.cpp dialog lirabox_player lirabox_app)
lirabox_add_test(player/PlayerFaultsTest.cpp dialog lirabox_player)
lirabox_add_test(player/PlayerModelTest.cpp dialog lirabox_player)
lirabox_add_test(player/PlayerDesktopTest.cpp dialog lirabox_player)
lirabox_add_test(player/PlayerReasonsTest.cpp dialog lirabox_player)
