# Registers the GoogleTest suites of a test executable with CTest, one CTest test per suite.
# Under Wine every CTest test gets its own throwaway prefix, so a test per suite keeps the
# prefix cost low while registry keys and files of one suite still never meet another's.
function(lw_gtest_suites target)
  get_target_property(_quellen ${target} SOURCES)
  get_target_property(_ordner ${target} SOURCE_DIR)
  set(_suiten "")
  foreach(_quelle IN LISTS _quellen)
    if(NOT IS_ABSOLUTE "${_quelle}")
      set(_quelle "${_ordner}/${_quelle}")
    endif()
    file(STRINGS "${_quelle}" _zeilen REGEX "^[ \t]*TEST(_F)?\\(")
    foreach(_zeile IN LISTS _zeilen)
      if(_zeile MATCHES "TEST(_F)?\\([ \t]*([A-Za-z0-9_]+)[ \t]*,")
        list(APPEND _suiten "${CMAKE_MATCH_2}")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES _suiten)
  foreach(_suite IN LISTS _suiten)
    add_test(NAME ${target}.${_suite} COMMAND ${target} --gtest_filter=${_suite}.* --gtest_color=no)
    lw_wine_test_properties(${target}.${_suite} ${ARGN})
  endforeach()
endfunction()

# Everything a test needs to run under Wine: the prefix template fixture and the environment.
function(lw_wine_test_properties test)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${test} PROPERTIES
      FIXTURES_REQUIRED wine_vorlage
      ENVIRONMENT "LADEWERK_WINE_VORLAGE=${CMAKE_BINARY_DIR}/wine-vorlage"
      ${ARGN})
  elseif(ARGN)
    set_tests_properties(${test} PROPERTIES ${ARGN})
  endif()
endfunction()
