lirabox_add_test(mpris/MprisServiceTest.cpp dialog lirabox_mpris)
