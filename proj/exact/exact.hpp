// Installers of the exact companions of the classic projections, run by
// mpx_exact_install before the base projections.
#pragma once

int exact_tranmerc_install() noexcept;
int exact_stm_install() noexcept;
int exact_utm_install() noexcept;
int exact_lambert1_install() noexcept;
int exact_lambert2_install() noexcept;
