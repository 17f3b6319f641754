// Small control helpers shared by the four option pages.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Places a page over the whole page area of the tab control it is in.
void PlacePage(HWND page);

bool Checked(HWND page, int id);
void SetChecked(HWND page, int id, bool on);
void Enable(HWND page, int id, bool on);

// The number in an edit box, read unsigned; an empty box reads 0.
int32_t ReadNumber(HWND page, int id);
void WriteNumber(HWND page, int id, int32_t value);

// No inner margins on a narrow number box, so that four digits show
// whole in the dialog font.
void FitNumberBox(HWND page, int id);

// The control's text cut to cap - 1 bytes at a whole CP932 character.
void ReadText(HWND page, int id, char* dst, size_t cap);

// A slider's range, tick frequency and position.
void SetUpSlider(HWND slider, int low, int high, int tickEvery, int position);

// Bitmap 104 on a browse button, at 16 x 16 pixels grown with the page's
// scale, in place of *image (deleted); the page deletes the last one when it
// goes.
void SetBrowseImage(HWND page, int id, HBITMAP* image);

// The shared colour chooser on *colour; true (and *colour changed) when the
// user picked one.
bool ChooseColour(uint32_t* colour);

// Replaces brush with a solid one of colour and repaints the swatch showing it.
void RenewSwatch(HBRUSH* brush, uint32_t colour, HWND swatch);

void DeleteBrush(HBRUSH* brush);
