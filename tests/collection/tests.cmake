lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/CollectionEntryTest.cpp unit lirabox_collection)
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/CollectionFileTest.cpp unit lirabox_collection)
