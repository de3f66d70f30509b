# Compile options shared by every Fermalux target.
add_library(fmx_options INTERFACE)
target_compile_options(fmx_options INTERFACE -Wall -Wextra -Wpedantic)
if(FMX_WARNINGS_AS_ERRORS)
    target_compile_options(fmx_options INTERFACE -Werror)
endif()
if(FMX_SANITIZE)
    target_compile_options(fmx_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(fmx_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# Qt layers: every user text visibly goes through tl() or QStringLiteral.
add_library(fmx_qt_strict INTERFACE)
target_compile_definitions(fmx_qt_strict INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING QT_NO_CAST_FROM_BYTEARRAY)
