# The tests of the Windows build, run under Wine by scripts/test-windows.sh:
# the layers' tests that need neither Linux processes nor the stand-in
# fixture (those run in the Linux build), the tests of the Windows seams in
# tests/platform/win and those of the Win32 windows in tests/winui. Included from tests/CMakeLists.txt.
include_directories(${CMAKE_CURRENT_SOURCE_DIR})
add_library(dovrel_test_files STATIC support/temp_files.cpp support/test_doubles.cpp)
target_link_libraries(dovrel_test_files PUBLIC dovrel_platform)

dovrel_add_gtest(cipher_cipher_text_test SOURCES cipher/cipher_text_test.cpp LIBS dovrel_cipher dovrel_test_files LABELS cipher)
dovrel_add_gtest(cipher_cipher_malformed_test SOURCES cipher/cipher_malformed_test.cpp LIBS dovrel_cipher dovrel_test_files
  LABELS cipher)
dovrel_add_gtest(faults_cipher_faults_test SOURCES faults/cipher_faults_test.cpp LIBS dovrel_cipher dovrel_test_files LABELS faults)

foreach(stem echo_status_test ipv4_address_test ping_test server_address_test)
  dovrel_add_gtest(net_${stem} SOURCES net/${stem}.cpp LIBS dovrel_net dovrel_test_files LABELS net)
endforeach()

foreach(stem codepage_test settings_document_test utf8_check_test)
  dovrel_add_gtest(platform_${stem} SOURCES platform/${stem}.cpp LIBS dovrel_platform LABELS platform)
endforeach()

dovrel_add_gtest(db_connection_string_test SOURCES db/connection_string_test.cpp LIBS dovrel_core LABELS db)
dovrel_add_gtest(db_odbc_values_test SOURCES db/odbc_values_test.cpp LIBS dovrel_db PkgConfig::ODBC LABELS db)

foreach(stem line_scan_test row_statement_test value_tests_test source_reader_test exchange_local_test)
  dovrel_add_gtest(exchange_${stem} SOURCES exchange/${stem}.cpp LIBS dovrel_exchange dovrel_test_files
    LABELS exchange)
endforeach()

foreach(stem busy_combo_test diagnosis_test localize_test)
  dovrel_add_gtest(core_${stem} SOURCES core/${stem}.cpp LIBS dovrel_core dovrel_test_files LABELS core)
endforeach()

add_subdirectory(platform/win)
add_subdirectory(winui)
