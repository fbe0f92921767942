lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/CdDrivesTest.cpp unit lirabox_cd)
