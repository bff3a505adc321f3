#pragma once

#include <QByteArray>
#include <QString>

namespace Refl
{

constexpr float InitialFactor = 1.5f;
constexpr float MinFactor = 0.2f;
constexpr float MaxFactor = 9.99f;

// The factor a REFL status message reports (bytes 8 and 9 as signed bytes, whole and hundredths);
// false when it lies outside MinFactor..MaxFactor and is not to be taken.
bool statusFactor(const QByteArray& status, float* factor);

// The factor the user typed: made positive and limited to MinFactor..MaxFactor.
float fieldFactor(const QString& text);
// Whether applying `wanted` is a change worth asking about.
bool changesFactor(float wanted, float applied);
// "F" 1 with the whole part and the hundredths.
QByteArray factorCommand(float factor);
// The factor as the field shows it.
QString factorText(float factor);

} // namespace Refl
