lirabox_add_test(player/PlayerWindowTest.cpp dialog)
