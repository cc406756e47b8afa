#pragma once
// Form1's file-picking handlers: the drive, folder and file lists keep each other in step, a click
// fills the name box, Enter in the box hands its name to the file list, a double click starts the
// selected file.
#include <cstdint>

namespace tervalux::app {

class Form1;

void Drive_Change(Form1& form);
void Dir_Change(Form1& form);
void File_Click(Form1& form);
void File_DblClick(Form1& form);
void txtarq_KeyPress(Form1& form, std::int16_t& KeyAscii);

}  // namespace tervalux::app
