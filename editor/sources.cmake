target_sources(lirabox_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CCollectionDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/CCollectionDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectionDlgEntries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectionDlgFiles.cpp)
target_sources(lirabox_editor PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CCdTitleDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/CCdTitleDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTrackPickDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/CTrackPickDlg.cpp)
