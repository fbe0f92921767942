target_sources(lirabox_collection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CollectionEntry.h
  ${CMAKE_CURRENT_LIST_DIR}/CollectionEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectionFile.h
  ${CMAKE_CURRENT_LIST_DIR}/CollectionFile.cpp)
target_sources(lirabox_collection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CCollectionDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/CCollectionDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectionDlgEntries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectionDlgFiles.cpp)
