# Helpers shared by every folder: one static library per folder, its tests
# in the tests/ folder beside its code.
#
#   vyre_library(NAME name [DEPS targets...] [PRIVATE_DEPS targets...]
#                [EXCLUDE files...])
#     Builds every .cpp of the calling folder (tests/ and bench/ excluded)
#     into a static library. The repository root is on the include path, so
#     headers are included as "engine/foundation/String.h". Files named in
#     EXCLUDE (a program's main beside its library) stay out of it.
#
#   vyre_tests(NAME name [DEPS targets...])
#     Builds tests/*.cpp into one GoogleTest executable per kind:
#       tests/*DeviceTest.cpp  open OpenGL or OpenAL; they run on Mesa's
#                              offscreen driver and OpenAL's null driver with
#                              leak detection off (the drivers keep
#                              allocations at exit that cannot be attributed);
#       tests/*Test.cpp        every other test, with leak detection on.
#     tests/support/*.cpp becomes the static library vyre_<name>_test_support,
#     built once on DEPS. Both executables take the whole of it, so members
#     that only register themselves (a test environment, the sanitizer's
#     options) come along. Another folder's tests name it in their DEPS and
#     take the members they use; a member they need but never name is
#     anchored by the folder that owns it (see engine/app).

function(vyre_library)
  cmake_parse_arguments(ARG "" "NAME" "DEPS;PRIVATE_DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "/(tests|bench)/")
  foreach(file IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
  endforeach()
  add_library(${ARG_NAME} STATIC ${sources})
  target_include_directories(${ARG_NAME} PUBLIC "${PROJECT_SOURCE_DIR}")
  target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

function(vyre_tests)
  cmake_parse_arguments(ARG "" "NAME" "DEPS" ${ARGN})
  if(NOT VYRE_TESTS)
    return()
  endif()
  set(dir "${CMAKE_CURRENT_SOURCE_DIR}/tests")
  file(GLOB support CONFIGURE_DEPENDS "${dir}/support/*.cpp")
  set(support_link)
  if(support)
    set(support_library vyre_${ARG_NAME}_test_support)
    add_library(${support_library} STATIC ${support})
    # Its own files include each other as "support/...", as the tests do.
    target_include_directories(${support_library} PRIVATE "${dir}")
    target_link_libraries(${support_library} PUBLIC ${ARG_DEPS} GTest::gmock)
    set(support_link "$<LINK_LIBRARY:WHOLE_ARCHIVE,${support_library}>")
  endif()
  file(GLOB device_tests CONFIGURE_DEPENDS "${dir}/*DeviceTest.cpp")
  file(GLOB all_tests CONFIGURE_DEPENDS "${dir}/*Test.cpp")
  set(plain_tests ${all_tests})
  if(device_tests)
    list(REMOVE_ITEM plain_tests ${device_tests})
  endif()

  set(scratch "${CMAKE_BINARY_DIR}/test-scratch/${ARG_NAME}")
  file(MAKE_DIRECTORY "${scratch}")
  set(common_env
      "VYRE_REGISTRY=${scratch}/registry.reg"
      "VYRE_USER_DIR=${scratch}"
      "VYRE_MESSAGEBOX=no"
      "VYRE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")

  if(plain_tests)
    add_executable(${ARG_NAME}_tests ${plain_tests})
    target_include_directories(${ARG_NAME}_tests PRIVATE "${dir}")
    target_link_libraries(${ARG_NAME}_tests PRIVATE ${support_link} ${ARG_DEPS} GTest::gmock GTest::gtest_main)
    # The environment rides on the command line through env(1): a list-valued
    # ENVIRONMENT property loses all but its first entry on its way through
    # test discovery.
    set_property(TARGET ${ARG_NAME}_tests PROPERTY CROSSCOMPILING_EMULATOR
                 env ${common_env} SDL_VIDEODRIVER=dummy ALSOFT_DRIVERS=null)
    gtest_discover_tests(${ARG_NAME}_tests
      WORKING_DIRECTORY "${scratch}"
      DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS ${ARG_NAME})
  endif()

  if(device_tests)
    add_executable(${ARG_NAME}_device_tests ${device_tests})
    target_include_directories(${ARG_NAME}_device_tests PRIVATE "${dir}")
    target_link_libraries(${ARG_NAME}_device_tests PRIVATE ${support_link} ${ARG_DEPS} GTest::gmock GTest::gtest_main)
    set_property(TARGET ${ARG_NAME}_device_tests PROPERTY CROSSCOMPILING_EMULATOR
                 env ${common_env} SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
                 ASAN_OPTIONS=detect_leaks=0)
    gtest_discover_tests(${ARG_NAME}_device_tests
      WORKING_DIRECTORY "${scratch}"
      DISCOVERY_TIMEOUT 60
      PROPERTIES LABELS ${ARG_NAME}-device)
  endif()
endfunction()
