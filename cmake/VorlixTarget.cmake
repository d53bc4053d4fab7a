# Which sanitizers ENABLE_SANITIZERS asks for; ON keeps meaning address and undefined together,
# as it did when the option was a switch.
string(TOLOWER "${ENABLE_SANITIZERS}" vorlix_sanitizers)
if(vorlix_sanitizers MATCHES "^(on|yes|true|1|address)$")
    set(VORLIX_SANITIZE address)
elseif(vorlix_sanitizers STREQUAL "thread")
    set(VORLIX_SANITIZE thread)
elseif(vorlix_sanitizers MATCHES "^(off|no|false|0|)$")
    set(VORLIX_SANITIZE "")
else()
    message(FATAL_ERROR "ENABLE_SANITIZERS=${ENABLE_SANITIZERS}: expected OFF, ON, address or thread")
endif()

# Common settings for every target of the project: warnings as errors and the optional sanitizers.
function(vorlix_target_defaults target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
    if(VORLIX_SANITIZE STREQUAL "address")
        target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer
                                                -fno-sanitize-recover=undefined)
        target_link_options(${target} PUBLIC -fsanitize=address,undefined)
    elseif(VORLIX_SANITIZE STREQUAL "thread")
        target_compile_options(${target} PUBLIC -fsanitize=thread -fno-omit-frame-pointer)
        target_link_options(${target} PUBLIC -fsanitize=thread)
    endif()
endfunction()

# A static library made of every source file of a folder; Qt's moc runs where needed.
function(vorlix_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    if(ARG_SOURCES)
        add_library(${target} STATIC ${ARG_SOURCES})
    else()
        # A folder whose subsystem is not built yet still gives a library to link against.
        add_library(${target} STATIC ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
    endif()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LINK})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    vorlix_target_defaults(${target})
endfunction()

# A GoogleTest program registered with CTest test by test; runs on the offscreen platform.
function(vorlix_test target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE vorlix_test_support ${ARG_LINK})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    vorlix_target_defaults(${target})
    gtest_discover_tests(${target}
        WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
        PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
        DISCOVERY_TIMEOUT 60
        DISCOVERY_MODE PRE_TEST
        # Parameters by their name or number: the values as gtest prints them hold addresses.
        NO_PRETTY_VALUES)
endfunction()
