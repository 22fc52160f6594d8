# Checks which programs hold the Bluetooth code: the programs in WITHOUT must not,
# those in WITH must (they show that the check still finds it). A trace is a
# symbol of it, where a program has symbols, the stack's service key or the
# control device's interface GUID, which survive stripping. The GUID is no trace
# in the programs with the simulated notebook (SIM), which models that device.
#   cmake -DNM=<nm> -DWITHOUT=<file>|... -DWITH=<file>|... [-DSIM=<file>|...] -P BluetoothTraces.cmake
cmake_minimum_required(VERSION 3.25)

function(bluetooth_traces file result)
    set(traces "")
    execute_process(COMMAND ${NM} ${file} OUTPUT_VARIABLE symbols ERROR_QUIET)
    if(symbols MATCHES "BtSwPowerCtl|GetBtPower|IsKvrf(usb|bd)Present|StackBluetoothRadio")
        list(APPEND traces "symbol ${CMAKE_MATCH_0}")
    endif()
    file(READ ${file} bytes HEX)
    if(bytes MATCHES "4b00760072006600") # "Kvrf" in UTF-16LE
        list(APPEND traces "service key")
    endif()
    if(NOT file IN_LIST SIM AND bytes MATCHES "d531582fca961f4680124132f56feba3") # GUID_BTSW_CONTROL
        list(APPEND traces "control device GUID")
    endif()
    set(${result} "${traces}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" WITHOUT "${WITHOUT}")
string(REPLACE "|" ";" WITH "${WITH}")
string(REPLACE "|" ";" SIM "${SIM}")
set(failed FALSE)
foreach(file IN LISTS WITHOUT)
    bluetooth_traces(${file} traces)
    if(traces)
        message(SEND_ERROR "${file} holds Bluetooth code: ${traces}")
        set(failed TRUE)
    endif()
endforeach()
foreach(file IN LISTS WITH)
    bluetooth_traces(${file} traces)
    if(NOT traces)
        message(SEND_ERROR "no Bluetooth code found in ${file}: the check has gone blind")
        set(failed TRUE)
    endif()
endforeach()
if(NOT failed)
    message(STATUS "Bluetooth code only where expected")
endif()
