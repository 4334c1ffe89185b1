#pragma once

class QAbstractButton;
struct Settings;

// The merge's layout buttons show the direction of the last run and keep each change in the
// settings (MergeDirection: 0 vertical, 1 horizontal).
void keepMergeDirection(Settings& settings, QAbstractButton* vertical, QAbstractButton* horizontal);
