# The sanitizer build instruments every target, so a fault in the plug-in, the
# reference host or a test is reported wherever it happens.
if(KEYPOSE_SANITIZE)
    set(KEYPOSE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                                -fno-omit-frame-pointer)
    add_compile_options(${KEYPOSE_SANITIZER_FLAGS})
    add_link_options(${KEYPOSE_SANITIZER_FLAGS})
endif()
