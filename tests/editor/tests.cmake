lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/CollectionDlgTest.cpp dialog lirabox_editor)
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/CollectionDlgFilesTest.cpp dialog lirabox_editor)
lirabox_add_test(${CMAKE_CURRENT_LIST_DIR}/CdDialogsTest.cpp dialog lirabox_editor)
