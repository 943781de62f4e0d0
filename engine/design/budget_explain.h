#pragma once
// Where every dB of a budget went, for any design: its terms from the
// transmit power to the fade margin (each with its sign, value and source),
// the noise budget (each part's share of the system noise temperature) and
// the link's figures of merit: EIRP, received power, the receiver's noise
// figure and temperature, Tsys, G/T, C/N0 and, with a bandwidth, N and C/N
// (G. Maral, M. Bousquet, Satellite Communications Systems, 5th ed., Wiley
// 2009, chapter 5; receiver_chain.h). No Qt.
#include "budget_sheet.h"

#include <vector>

// The receiver of the design: the sheet's when the receiver feature applied,
// else the window's chain (the LNA and the receiver) behind a 290 K antenna.
ReceiverBudget ReceiverOf(const BudgetSheet& sheet);

// The receiver's lines and figures of merit (JSON: its fields) in `section`.
void AddReceiverLines(const DesignPoint& point, const BudgetSheet& sheet,
                      const ReceiverBudget& receiver, SheetSection& section);

// The section the receiver feature adds (its name "receiver"), for a design
// without it.
inline constexpr const char* kReceiverSectionName = "receiver";
SheetSection ReceiverSection(const DesignPoint& point, const BudgetSheet& sheet);

// The sections of an explained budget: the receiver's figures of merit added
// to `sections` where no feature of the design added them.
void AddExplainedSections(std::vector<SheetSection>& sections, const DesignPoint& point,
                          const BudgetSheet& sheet);

struct BudgetExplanation {
    std::vector<LinkTerm> terms; // they add up to the fade margin
    double fadeMargin;           // dB
    ReceiverBudget receiver;     // its contributions add up to Tsys
};

BudgetExplanation ExplainBudget(const BudgetModel& model, const DesignPoint& point,
                                const BudgetSheet& sheet);
