// The process-wide state of the grid access layer: the table of open
// chains, the current chain and the cell cache shared by all chains. Only
// the functions below touch it.
#pragma once

#include "geodesy/grid_file.hpp"

// Most chains a process may hold open at once (stated in the public
// header): one per cached transformation (20) with room for a host's own.
constexpr int kGridMaxChains = MPX_GRID_MAX_CHAINS;
// Cells kept in memory, most recently used first.
constexpr int kGridCacheCapacity = 100;

// Enters a chain under a new id (1 to kGridMaxChains, the lowest free one);
// 0 when the table is full.
int grid_chain_register(mpx_grid_file *head) noexcept;
// The head of a chain, or null for an id that names none.
mpx_grid_file *grid_chain_head(int grid_id) noexcept;
// Releases the id (and the current chain, if it was this one) and returns
// the head, or null for an id that names none. The caller closes the files.
mpx_grid_file *grid_chain_unregister(int grid_id) noexcept;

void grid_current_set(int grid_id) noexcept;
int grid_current_id() noexcept;

// The cached cell, moved to the front, or null.
mpx_grid_cell *grid_cache_find(const mpx_grid_file *grid, int cell_index) noexcept;
// An entry to fill: a free one, or else the least recently used, unlinked.
mpx_grid_cell *grid_cache_take() noexcept;
// Puts a filled entry at the front, or hands back one that could not be.
void grid_cache_push_front(mpx_grid_cell *entry) noexcept;
void grid_cache_release(mpx_grid_cell *entry) noexcept;
// Drops every entry of a file that is about to close.
void grid_cache_forget_file(const mpx_grid_file *grid) noexcept;

// Inspection for tests: the entry's distance from the front (0 = most
// recently used) or -1 when the cell is not cached; the number of entries.
int grid_cache_rank(const mpx_grid_file *grid, int cell_index) noexcept;
int grid_cache_count() noexcept;
