// Undo and redo of commands at the window's level.
//
// A level is the state before one command: the texts of R0..R4, the full texts of R5..R9
// (MemoryTexts), the digits field and the option boxes, with the command's id. Undo puts
// that state back and keeps the state it replaced as a redo level; a new command drops
// the redo levels. Every command is covered, whatever it did: a button, the script (and
// the self-test it may run), a cancelled run.
//
// Memory: texts are shared between levels (a text that only moved on the stack, or that
// no command touched, is held once), and the oldest levels go once the texts held exceed
// UNDO_TEXT_BUDGET bytes or the levels UNDO_MAX_LEVELS. One level holds at most eleven
// texts of 110,000 bytes, so at 100,000 digits well over 20 levels of typical work fit.
//
// Main thread only, and only while no command runs (the worker owns the slots then).
#pragma once

#include <cstddef>

#include "ui/platform.h"

constexpr size_t UNDO_TEXT_BUDGET = size_t{8} << 20;
constexpr int UNDO_MAX_LEVELS = 100;

// The undo level of "Load from file…", which changes a register without a command.
constexpr int UNDO_LOAD_FILE = -10;

// Before a command starts, with the slots holding the texts it starts from (after
// read_edit_texts): a new undo level for the command `id` (or UNDO_LOAD_FILE); the redo
// levels are dropped.
void undo_record(int id);

// After a run has ended (the slots hold its results): the level of a command that changed
// nothing the levels hold ("---", invalid digits, a cancel before any change) is dropped.
void undo_drop_if_unchanged();

// Undo (redo false) or redo the last command: reads the boxes, puts the level's state
// into the slots, the boxes and the option boxes, and says so in the status line
// ("undone: exp"). false (with "nothing to undo" / "nothing to redo") when there is none.
bool undo_step(UiHandle main, bool redo);

// Forgets every level.
void undo_reset();

int undo_levels();
int redo_levels();
// Bytes of text held by all levels together.
size_t undo_text_bytes();
