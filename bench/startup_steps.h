#pragma once

class q_a_template_;

// The window's Load event as Form_Load runs it, step by step, each step's end
// marked: "bank loaded" after start-up (the prompts, then the course text) and
// "opened" after the assignment opening (its header found, the opening record
// written to both files and flushed to disk).
void loadInSteps(q_a_template_& window);
