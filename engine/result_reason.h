// Why a result is ERROR or OVERFLOW: a short reason read from the command that ran and its
// operands where it left them, for the front ends to show beside the marker ("division by
// zero", "argument outside −1..1", "exponent past 999,999,999").
//
// A reason is given only where the operands decide it for certain, in the mode that ran
// (the defined algorithms fail in places where "Exact digits" does not). Otherwise there is
// none: no reason is better than a wrong one. When the status line already says why (an
// "Exact digits" message), no reason is added.
//
// Called on the front end's thread right after the command, before anything else changes
// the registers or the options.
#pragma once

// The reason for R0's marker after the command `code` ran; null when R0 is a number or
// the reason cannot be told. An operand that was ERROR or OVERFLOW already passes its
// marker on: the reason is then its text's ("R1's text is not a number: a sign or point
// out of place"), or null when the text is the marker itself (the reason lies with the
// command that made it).
const char *result_reason(int code);

// The reason the command `code` made R0's marker from number operands; null when R0 is a
// number, when an operand was a marker already, or when the reason cannot be told.
const char *operation_reason(int code);

// The reason register n (0..9) holds a marker read from its text, as above; null when the
// register holds a number or its text is the marker word itself. The register's number
// must be its text's (after a command, format_register_value or prepare_registers).
const char *register_text_reason(int n);

// The reason of a number text that reads as OVERFLOW (a literal's only way to be a marker).
extern const char REASON_EXPONENT_PAST[];  // "exponent past 999,999,999"


// The reason for the marker R0 holds after several commands: the reason given by the
// command that made the marker, kept while later commands pass that marker on. A typed
// number ("up" and a text) keeps it too, since it moves the marker to R1, where the next
// two-operand command takes it. A register command that brings a marker into R0 leaves no
// reason (which marker it moved is not followed), nor does a typed register text.
class ReasonTrail {
 public:
  // After the command `code` ran.
  void after_command(int code);
  // After an expression or another compound step whose own reason is known.
  void set(const char *reason) { reason_ = reason; }
  void clear() { reason_ = nullptr; }
  // The kept reason; meaningful only while R0 holds a marker.
  const char *reason() const { return reason_; }

 private:
  const char *reason_ = nullptr;
};
