target_sources(lirabox_collection PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CollectionEntry.h
  ${CMAKE_CURRENT_LIST_DIR}/CollectionEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CollectionFile.h
  ${CMAKE_CURRENT_LIST_DIR}/CollectionFile.cpp)
