# glm_add_test(NAME name SOURCES ... [LIBRARIES ...] [LABELS ...]
#              [ENVIRONMENT VAR=value ...] [TIMEOUT seconds] [NO_SANITIZER])
# One GoogleTest executable, registered with CTest as one test. Run one case
# with: build/bin/<name> --gtest_filter='Suite.Case'
#
# NO_SANITIZER leaves the test out of sanitizer trees (for code that runs
# inside third-party processes such as the web engine, where the runtime
# reports the engine rather than us).
function(glm_add_test)
    cmake_parse_arguments(T "NO_SANITIZER" "NAME;TIMEOUT" "SOURCES;LIBRARIES;LABELS;ENVIRONMENT" ${ARGN})
    if(T_NO_SANITIZER AND GLM_SANITIZE)
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    glm_target_warnings(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} glm_test_support GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    # Under the sanitizers the offscreen platform keeps away from the X
    # server's GL: Mesa's driver, loaded for the web engine's shared context
    # and unloaded before exit, leaves caches no suppression can name.
    set(T_PLATFORM "QT_QPA_PLATFORM=offscreen")
    if(GLM_SANITIZE)
        list(APPEND T_PLATFORM "QT_QPA_OFFSCREEN_NO_GLX=1")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        LABELS "${T_LABELS}"
        ENVIRONMENT "${T_PLATFORM};GLM_BUILD_DIR=${CMAKE_BINARY_DIR};GLM_SOURCE_DIR=${CMAKE_SOURCE_DIR};${T_ENVIRONMENT}")
endfunction()
