target_sources(lirabox_testsupport PRIVATE
  support/AudioCapture.h support/AudioCapture.cpp
  support/FakeAudioDevices.h support/FakeAudioDevices.cpp
  support/SoundFontMaker.h support/SoundFontMaker.cpp
  support/FakeMedia.h support/FakeMedia.cpp)
target_link_libraries(lirabox_testsupport PUBLIC PkgConfig::GST)

# The media makers, also used by tools/make-demo (which cannot take the test main).
add_library(lirabox_mediamaker STATIC
  support/MediaMaker.h support/MediaMaker.cpp support/LittleEndian.h
  support/DiscImageMaker.h support/DiscImageMaker.cpp)
target_include_directories(lirabox_mediamaker PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lirabox_mediamaker PUBLIC Qt6::Core PRIVATE PkgConfig::GST)
target_sources(lirabox_testsupport PRIVATE
  support/FakeCd.h support/FakeCd.cpp
  support/MessageBoxRecorder.h support/MessageBoxRecorder.cpp
  support/FileDialogScript.h support/FileDialogScript.cpp
  support/TestServices.h support/TestServices.cpp)
target_link_libraries(lirabox_testsupport PUBLIC lirabox_mediamaker)
# Ripped discs (cue sheets with FLAC, WAV or BINARY files); CP932 names need the text codec.
target_sources(lirabox_mediamaker PRIVATE support/RipMaker.h support/RipMaker.cpp)
# cdrdao tables of contents over raw, WAVE and data files.
target_sources(lirabox_mediamaker PRIVATE support/TocMaker.h support/TocMaker.cpp)
target_link_libraries(lirabox_mediamaker PRIVATE lirabox_platform)
