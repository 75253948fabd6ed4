# Every target of the project compiles with the same strict warning set.
function(keypose_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
    if(KEYPOSE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
