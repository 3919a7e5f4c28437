# The project's warning set. Every target made through glm_target_warnings
# compiles with these, and any warning fails the build.
set(GLM_WARNINGS
    -Wall
    -Wextra
    -Wpedantic
    -Werror
    -Wshadow                 # a local hiding a member is how m_ prefixes get skipped
    -Wnon-virtual-dtor       # every polymorphic base here is deleted through the base
    -Wold-style-cast
    -Wcast-align
    -Woverloaded-virtual
    -Wnull-dereference
    -Wdouble-promotion
    -Wformat=2               # printf-style string-table texts are formatted everywhere
    -Wimplicit-fallthrough
    -Wmisleading-indentation
    -Wduplicated-cond
    -Wlogical-op
)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    list(REMOVE_ITEM GLM_WARNINGS -Wduplicated-cond -Wlogical-op)
endif()

function(glm_target_warnings target)
    target_compile_options(${target} PRIVATE ${GLM_WARNINGS})
endfunction()

# Qt string hygiene: no implicit char* conversions, no API deprecated up to
# the Qt we build with.
function(glm_target_qt_hygiene target)
    target_compile_definitions(${target} PRIVATE
        QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
        QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER
        QT_DISABLE_DEPRECATED_UP_TO=0x060400)
endfunction()
