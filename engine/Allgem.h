#pragma once

#include "ZarvoError.h"

#include <QString>

// General routines: text fields, numbers, times of day, file checks and
// copying. Times are date-time values in days (one minute = 1/1440); a
// date-time counts days since 1899-12-30 00:00 local time, so stored values
// keep their meaning across platforms.

// The n-th field (1-based) of text, fields ended by any character of
// separators; untrimmed; empty beyond the last field. When separators is
// exactly " ", a run of blanks counts as one separator.
QString ExtractField(const QString &text, int n, const QString &separators);
// ExtractField, or def when that field is empty.
QString ExtractFieldDef(const QString &text, int n, const QString &separators, const QString &def);
// The field as an integer; def when the text or field is empty or no number.
int ExtractFieldInt(const QString &text, int n, const QString &separators, int def);

QString RightChars(const QString &text, int count);
// 7 with width 2 gives "07", 123 with width 2 gives "23", -5 with width 3 "-05";
// widths above 10 give the whole (shorter) padded text.
QString ZeroPad(int number, int width);

double HourMinToTime(int hours, int minutes);
int TimeToMinutes(double time); // rounded half away from zero; 0 on overflow
void TimeToHourMin(double time, int &hours, int &minutes); // both negative for a negative time
QString FormatTime(bool decimal, const QString &def, double time);
QString TimeToText(double time);
QString TimeToTextEx(bool decimal, double time);
double TextToTime(const QString &text); // throws EConvertError "'<text>' ist keine gültige Zeit"

int YearOfDate(double date);
int BoolToInt(bool flag);
QString IfThenStr(bool flag, const QString &a, const QString &b);

// Date-time values (days since 1899-12-30, local time) to and from Qt.
double DateTimeFromQt(const class QDateTime &dt);
class QDateTime QtFromDateTime(double dt);
double Now();

// True when a file or directory of that name exists. With raise set, a
// failure other than "not found" throws IOErrorFromResult.
bool PathExists(const QString &name, bool raise);
// Last-write date-time; -1 when missing; 0 when the date cannot be converted.
double FileDateTime(const QString &name, bool raise);
// True when both names denote the same file: canonical paths compared,
// ignoring case only where the file system does.
bool SamePath(const QString &a, const QString &b);
// Copies source over destination and gives it the source's file date. Same
// file: true without copying. keepExisting and destination exists: false.
bool CopyFileKeepDate(const QString &source, const QString &destination, bool keepExisting);

// The I/O error for a table code (2, 3, 4, 5, 100, 101, 106) or "E/A-Fehler %d".
EInOutError IOErrorFromResult(int code);
// Maps an errno value of the platform onto the table's codes.
int IOResultFromErrno(int err);
