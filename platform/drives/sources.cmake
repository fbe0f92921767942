target_sources(lirabox_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CdioSetup.h
  ${CMAKE_CURRENT_LIST_DIR}/CdioSetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DriveFinder.h
  ${CMAKE_CURRENT_LIST_DIR}/DriveFinder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DriveMap.h
  ${CMAKE_CURRENT_LIST_DIR}/DriveMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathResolver.h
  ${CMAKE_CURRENT_LIST_DIR}/PathResolver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RealFileAccess.h
  ${CMAKE_CURRENT_LIST_DIR}/RealFileAccess.cpp)
