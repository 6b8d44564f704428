#pragma once
#include <QBrush>
#include <QColor>
#include <QPen>
#include <cstdint>

// Colours are 32-bit BGR values ($00BBGGRR); a top byte $FF names a system
// colour by its index ($FF00000F is the button face).
using TColor = uint32_t;

constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clBtnHighlight = 0xFF000014;
constexpr TColor clWindow = 0xFF000005;
constexpr TColor clWindowText = 0xFF000008;
constexpr TColor CaptionColor = 0x00DDFFFF;

QColor ToQColor(TColor Color);
// Fill style: 0 solid, 1 clear, 2 horizontal, 3 vertical, 4 forward and
// 5 backward diagonal, 6 cross, 7 diagonal cross.
QBrush ToQBrush(TColor Color, int Style);
// Line style: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none.
QPen ToQPen(TColor Color, int Style, int Width);
