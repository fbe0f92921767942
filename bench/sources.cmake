add_executable(bench_collection ${CMAKE_CURRENT_LIST_DIR}/bench_collection.cpp)
target_link_libraries(bench_collection PRIVATE lirabox_collection benchmark::benchmark)
add_executable(bench_media ${CMAKE_CURRENT_LIST_DIR}/bench_media.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/MediaMaker.h ${PROJECT_SOURCE_DIR}/tests/support/MediaMaker.cpp)
target_include_directories(bench_media PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(bench_media PRIVATE lirabox_platform PkgConfig::GST benchmark::benchmark)
add_executable(bench_cd ${CMAKE_CURRENT_LIST_DIR}/bench_cd.cpp)
target_link_libraries(bench_cd PRIVATE lirabox_platform lirabox_mediamaker benchmark::benchmark)
