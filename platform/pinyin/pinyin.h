// The pinyin library (a shared library of its own, loaded by the query program by name
// from the program directory): the pinyin of code page 936 texts.
//
// Both functions write a zero-terminated result of at most 100 bytes, terminator
// included, into `buffer`, which the caller provides with room for at least that; they
// return the result's length. Results are lower-case letters without tones or
// separators: the full pinyin (GetPinYin) or one initial letter per hanzi
// (GetPinYinLeader). ASCII letters and digits are kept (letters lower-cased), full-width
// letters and digits are read as their half-width forms, everything else is dropped. A
// hanzi that starts the text (after any spaces) takes its surname reading where it has
// one (单 shan, 曾 zeng, ...); a two-character surname there is read as a whole first
// (万俟 moqi, 长孙 zhangsun, 单于 chanyu). A result that would not fit ends after the last whole
// syllable (letter, digit) that does. A null text gives an empty result; a null buffer
// is left alone.
#pragma once

#if defined(__GNUC__)
#define PINYIN_EXPORT __attribute__((visibility("default")))
#else
#define PINYIN_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// `third` is accepted for the callers' sake and has no meaning.
PINYIN_EXPORT int GetPinYin(char* buffer, const char* text, const char* third);
PINYIN_EXPORT int GetPinYinLeader(char* buffer, const char* text);

#ifdef __cplusplus
}
#endif
