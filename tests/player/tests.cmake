lirabox_add_test(player/PlayerWindowTest.cpp dialog)
lirabox_add_test(player/MciWndTest.cpp unit)
lirabox_add_test(player/PlayerTransportTest.cpp dialog)
lirabox_add_test(player/PlayerHistoryTest.cpp dialog)
