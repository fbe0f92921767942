lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/COptionDlgTest.cpp dialog)
