target_sources(lirabox_platform PRIVATE)
target_sources(lirabox_platform PRIVATE
  mci/AudioDevices.h mci/AudioDevices.cpp
  mci/AudioSettings.h mci/AudioSettings.cpp
  mci/GstAudioOutput.h mci/GstAudioOutput.cpp
  mci/GstBusRecord.h mci/GstBusRecord.cpp
  mci/GstFilePlayer.h mci/GstFilePlayer.cpp mci/GstStateWait.h
  mci/GstMediaWindow.h mci/GstMediaWindow.cpp
  mci/GstPlayFailure.h mci/GstPlayFailure.cpp
  mci/MediaEngine.h mci/MediaEngine.cpp
  mci/MidiSynth.h mci/MidiSynth.cpp
  mci/SoundFont.h mci/SoundFont.cpp
  mci/VideoWidget.h mci/VideoWidget.cpp)
target_sources(lirabox_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CdAudio.h
  ${CMAKE_CURRENT_LIST_DIR}/CdAudio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CdDevice.h
  ${CMAKE_CURRENT_LIST_DIR}/CdDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CdSectorReader.h
  ${CMAKE_CURRENT_LIST_DIR}/CdSectorReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CdStream.h
  ${CMAKE_CURRENT_LIST_DIR}/CdStream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CdTime.h
  ${CMAKE_CURRENT_LIST_DIR}/CueSheet.h
  ${CMAKE_CURRENT_LIST_DIR}/CueSheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CueLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/CueLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RipDecoder.h
  ${CMAKE_CURRENT_LIST_DIR}/RipDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RipDisc.h
  ${CMAKE_CURRENT_LIST_DIR}/RipDisc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RipReader.h
  ${CMAKE_CURRENT_LIST_DIR}/RipReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SectorSource.h
  ${CMAKE_CURRENT_LIST_DIR}/TocFile.h
  ${CMAKE_CURRENT_LIST_DIR}/TocFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TocLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/TocLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DiscImage.h
  ${CMAKE_CURRENT_LIST_DIR}/DiscImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GstStateChange.h
  ${CMAKE_CURRENT_LIST_DIR}/GstStateChange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MciString.h
  ${CMAKE_CURRENT_LIST_DIR}/MciString.cpp)
