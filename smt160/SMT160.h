#pragma once

// libSMT160.so: reads an SMT160-30 temperature sensor wired to a parallel-port
// status line or a game-port button line.
//
// The sensor's square wave (about 1 to 4 kHz) is polled for 150 ms; its duty
// cycle over whole periods gives the temperature, t = (DC - 0.320) / 0.00470.
// A call returns the temperature in degrees Celsius, or NaN when there is no
// reading; it never takes longer than 300 ms, whatever the port or another
// program does, and returns NaN within 20 ms when the line has no edges or
// the port cannot be opened. SMT160_LastError() then says why.
//
// The library itself never touches a port directly. Where no kernel driver
// reaches the port it runs the helper program smt160-rawport beside itself,
// the only part that may hold CAP_SYS_RAWIO.

#include <stdint.h>

#if defined(SMT160_BUILDING_LIBRARY)
#define SMT160_API __attribute__((visibility("default")))
#else
#define SMT160_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// address: the register to poll. 513 to 520 (0x201 to 0x208) are game-port
// addresses and are read by the helper. Any other address is a parallel
// port's status register (889 = 0x379 for the port at 0x378) or its base: it
// is read through /dev/parportN when /proc/sys/dev/parport knows the port
// (needs the lp group), otherwise by the helper. PCI cards at high addresses
// (0xD011 = 53265) work the same way. A parallel port that another program
// holds is skipped with a reason.
//
// line: 11 is parallel-port pin 11 (BUSY, status bit 7, inverted by the
// port). Any other value 1 to 255 is a bit mask of the register, and the
// line is high while a bit of the mask reads 1: 16 (0x10) is game-port
// button A1 (pin 2). Other values give NaN.
SMT160_API float GetTemp(int32_t address, int32_t line);

// Like GetTemp, but always reads the address through the helper as a
// game-port register, whatever its value (game ports on PCI cards sit
// elsewhere).
SMT160_API float GetTempGame(int32_t address, int32_t line);

// Why the last call on this thread returned NaN, in Swedish, UTF-8; empty
// after a valid reading. Valid until the next call on the same thread.
SMT160_API const char *SMT160_LastError(void);

#ifdef __cplusplus
}
#endif
