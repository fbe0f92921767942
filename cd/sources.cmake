target_sources(lirabox_cd PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CdDrives.h
  ${CMAKE_CURRENT_LIST_DIR}/CdDrives.cpp)
target_sources(lirabox_cd PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CdTrackListing.h
  ${CMAKE_CURRENT_LIST_DIR}/CdTrackListing.cpp)
