# What the Windows build (cmake/mingw-w64-x86_64.cmake) uses in place of the
# Debian libraries of the Linux build:
#   ODBC                     MinGW's import libraries of odbc32 and odbccp32
#   OpenCC                   built from third_party (with marisa-trie and Debian's rapidjson headers)
#   CLI11, nlohmann's JSON   Debian's headers
#   GoogleTest               built from Debian's sources
# Code pages need no iconv: Windows converts them itself.

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
# The windows' icon, pictures and manifest (src/winui/dovrel.rc).
enable_language(RC)

# Programs land at the top of the build folder, beside the data they ship
# with: OpenCC's s2tw configuration and dictionaries in "opencc", taken
# from Debian's (the files do not depend on the platform).
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(DOVREL_OPENCC_FILES s2tw.json STPhrases.ocd2 STCharacters.ocd2 TWVariants.ocd2)
list(TRANSFORM DOVREL_OPENCC_FILES PREPEND /usr/share/opencc/ OUTPUT_VARIABLE opencc_sources)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/opencc/s2tw.json
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/opencc
  COMMAND ${CMAKE_COMMAND} -E copy ${opencc_sources} ${CMAKE_BINARY_DIR}/opencc
  DEPENDS ${opencc_sources}
  COMMENT "OpenCC's s2tw data beside the programs")
add_custom_target(opencc_data ALL DEPENDS ${CMAKE_BINARY_DIR}/opencc/s2tw.json)

# Header-only libraries of the host are copied into the build tree: adding
# /usr/include itself would put the host's C library before MinGW's.
function(dovrel_host_headers folder out)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps.sh")
  endif()
  file(COPY /usr/include/${folder} DESTINATION ${CMAKE_BINARY_DIR}/host-include)
  set(${out} ${CMAKE_BINARY_DIR}/host-include PARENT_SCOPE)
endfunction()

dovrel_host_headers(CLI cli11_include)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${cli11_include})

# nlohmann's JSON (dovrelctl --json) is found through a package file of our
# own that names the copied headers.
dovrel_host_headers(nlohmann json_include)
set(json_package ${CMAKE_BINARY_DIR}/host-packages/nlohmann_json)
file(WRITE ${json_package}/nlohmann_jsonConfig.cmake
  "add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)\n"
  "set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${json_include})\n")
file(WRITE ${json_package}/nlohmann_jsonConfigVersion.cmake
  "set(PACKAGE_VERSION 3)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
set(nlohmann_json_DIR ${json_package} CACHE PATH "" FORCE)

dovrel_host_headers(rapidjson DOVREL_RAPIDJSON_INCLUDE_DIR)
add_subdirectory(${PROJECT_SOURCE_DIR}/third_party ${CMAKE_BINARY_DIR}/third_party EXCLUDE_FROM_ALL)

# The targets keep the Linux build's names, so the layers link the same way.
add_library(PkgConfig::ODBC INTERFACE IMPORTED)
set_target_properties(PkgConfig::ODBC PROPERTIES INTERFACE_LINK_LIBRARIES odbc32)
add_library(PkgConfig::ODBCINST INTERFACE IMPORTED)
set_target_properties(PkgConfig::ODBCINST PROPERTIES INTERFACE_LINK_LIBRARIES odbccp32)

if(DOVREL_BUILD_TESTS)
  if(NOT EXISTS /usr/src/googletest/CMakeLists.txt)
    message(FATAL_ERROR "/usr/src/googletest is missing: run scripts/install-deps.sh")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock gmock_main)
    target_compile_options(${lib} PRIVATE -w)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
endif()
