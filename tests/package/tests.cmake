# The installed files and the .deb: validators, file list, Depends.
add_test(NAME PackageTest COMMAND ${CMAKE_CURRENT_LIST_DIR}/PackageTest.sh ${PROJECT_BINARY_DIR})
set_tests_properties(PackageTest PROPERTIES LABELS package TIMEOUT 300)
