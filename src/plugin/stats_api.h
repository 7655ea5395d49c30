/* The exported boundary of the Stats plug-in, for host authors.
   Plain C, cdecl on 32-bit Windows. Texts are NUL-terminated 8-bit strings in
   the host's ANSI code page; a null text pointer counts as the empty text and a
   null date pointer as a null date. Texts returned by the plug-in stay owned by it. */
#ifndef STATS_API_H
#define STATS_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* An automation date: days since 30 December 1899, time of day as the fraction. */
typedef struct DateTimeValue {
    double date;
    int32_t status; /* 0 valid, 1 invalid, 2 null */
} DateTimeValue;

enum { kDateTimeValid = 0, kDateTimeInvalid = 1, kDateTimeNull = 2 };

#if defined(_WIN32)
#define STATS_CALL __cdecl
#else
#define STATS_CALL
#endif

/* The QSO field block shared by AddData0 and RemoveData0; unnamed arguments are ignored. */
#define STATS_QSO_FIELD_BLOCK                                                              \
    const char *ownCall, const char *call, const DateTimeValue *qsoTime,                   \
        const DateTimeValue *, const DateTimeValue *, const DateTimeValue *, uint32_t,     \
        uint32_t freqHz, const char *mode, const char *rstSent, const char *rstRcvd,       \
        const char *exchSent, const char *exchRcvd, const char *, const char *,            \
        const char *, const char *, const char *, const char *, const char *,              \
        const char *, const char *, const char *prefix, int32_t, int32_t, int32_t, double, \
        double, const char *, const char *country, const char *, const char *band,         \
        const char *

int32_t STATS_CALL ResetStats0(const char *, int32_t cabrilloEnabled, const char *contestantCall,
                               const DateTimeValue *periodStart, const DateTimeValue *periodEnd,
                               const char *, const char *, const char *, const char *,
                               const char *, const char *, const char *, const char *,
                               const char *, const char *, int32_t, int32_t, int32_t, double,
                               double, const char *, const char *ownCountry, const char *);
int32_t STATS_CALL AddData0(STATS_QSO_FIELD_BLOCK);
int32_t STATS_CALL RemoveData0(STATS_QSO_FIELD_BLOCK);
int32_t STATS_CALL CheckCall0(const char *call, uint32_t, uint32_t, const char *mode,
                              const char *, const char *, const char *, const char *,
                              const char *, const char *, const char *, const char *,
                              const char *, const char *prefix, int32_t, int32_t, int32_t,
                              double, double, const char *, const char *country, const char *,
                              const char *, const char *, const char *band,
                              const char *secondBand, char *exchOut, char *);
char *STATS_CALL GetResult0(int32_t *resultCode);
int32_t STATS_CALL GetNumberOfSets(void);
char *STATS_CALL GetSetName(int32_t setIndex);
void STATS_CALL SetupSet0(void);
int32_t STATS_CALL IsValidExchg0(const char *exchange, const char *, const char *, const char *,
                                 int32_t, int32_t, int32_t);
/* GetExchgCount0 is exported as another name of GetNumberOfSets; with cdecl the
   caller removes its three (ignored) text arguments. */
int32_t STATS_CALL GetExchgCount0(const char *, const char *, const char *);

#ifdef __cplusplus
}
#endif

#endif
