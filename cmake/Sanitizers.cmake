# The sanitizer build instruments every target, so a fault in the plug-in, the
# reference host or a test is reported wherever it happens.
if(KEYPOSE_SANITIZE)
    set(KEYPOSE_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
                                -fno-omit-frame-pointer)
    add_compile_options(${KEYPOSE_SANITIZER_FLAGS})
    add_link_options(${KEYPOSE_SANITIZER_FLAGS})
endif()

# The fuzz build adds the fuzzer's coverage instrumentation to every target; the fuzz
# targets link the fuzzer's own main (fuzz/CMakeLists.txt).
if(KEYPOSE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KEYPOSE_FUZZ needs clang (CXX=clang++)")
    endif()
    set(KEYPOSE_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined
                           -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${KEYPOSE_FUZZ_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()
