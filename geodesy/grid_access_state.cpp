// State of the grid access layer, in one struct.
//
// Chains are known to hosts by an int. A pointer to the chain's head would
// not fit an int on 64-bit hosts, so the ids are small numbers: the slot of
// the head in a fixed table, plus one (0 means none), reused after close.
//
// The cache entries come from a fixed pool rather than the heap: the list
// holds at most 100 cells anyway, and so the per-point path never allocates
// and never fails for want of memory.
#include "geodesy/grid_access_state.hpp"

#include <array>
#include <cstddef>

namespace {

struct GridAccessState {
    std::array<mpx_grid_file *, kGridMaxChains> chains{};
    int current_id = 0;
    std::array<mpx_grid_cell, kGridCacheCapacity> pool{};
    mpx_grid_cell *front = nullptr;     // most recently used first
    mpx_grid_cell *free_list = nullptr; // entries handed back
    int pool_used = 0;                  // pool entries ever handed out
};

GridAccessState g_grids;

mpx_grid_file *&chain_slot(int grid_id) {
    return g_grids.chains[static_cast<std::size_t>(grid_id - 1)];
}

bool names_chain(int grid_id) {
    return grid_id >= 1 && grid_id <= kGridMaxChains && chain_slot(grid_id);
}

// Unlinks and returns the entry after `before` (the front when null).
mpx_grid_cell *unlink_after(mpx_grid_cell *before) {
    mpx_grid_cell *&link = before ? before->next : g_grids.front;
    mpx_grid_cell *entry = link;
    link = entry->next;
    entry->next = nullptr;
    return entry;
}

} // namespace

int grid_chain_register(mpx_grid_file *head) noexcept {
    for (int id = 1; id <= kGridMaxChains; ++id) {
        if (!chain_slot(id)) {
            chain_slot(id) = head;
            return id;
        }
    }
    return 0;
}

mpx_grid_file *grid_chain_head(int grid_id) noexcept {
    return names_chain(grid_id) ? chain_slot(grid_id) : nullptr;
}

mpx_grid_file *grid_chain_unregister(int grid_id) noexcept {
    if (!names_chain(grid_id))
        return nullptr;
    if (g_grids.current_id == grid_id)
        g_grids.current_id = 0;
    mpx_grid_file *head = chain_slot(grid_id);
    chain_slot(grid_id) = nullptr;
    return head;
}

void grid_current_set(int grid_id) noexcept { g_grids.current_id = grid_id; }

int grid_current_id() noexcept { return g_grids.current_id; }

mpx_grid_cell *grid_cache_find(const mpx_grid_file *grid, int cell_index) noexcept {
    mpx_grid_cell *before = nullptr;
    for (mpx_grid_cell *entry = g_grids.front; entry; before = entry, entry = entry->next) {
        if (entry->file == grid && entry->cell_index == cell_index) {
            if (before)
                grid_cache_push_front(unlink_after(before));
            return entry;
        }
    }
    return nullptr;
}

mpx_grid_cell *grid_cache_take() noexcept {
    if (g_grids.free_list) {
        mpx_grid_cell *entry = g_grids.free_list;
        g_grids.free_list = entry->next;
        entry->next = nullptr;
        return entry;
    }
    if (g_grids.pool_used < kGridCacheCapacity)
        return &g_grids.pool[static_cast<std::size_t>(g_grids.pool_used++)];
    // Every pool entry is in the list: reuse the last one.
    mpx_grid_cell *before = nullptr;
    for (mpx_grid_cell *entry = g_grids.front; entry->next; entry = entry->next)
        before = entry;
    return unlink_after(before);
}

void grid_cache_push_front(mpx_grid_cell *entry) noexcept {
    entry->next = g_grids.front;
    g_grids.front = entry;
}

void grid_cache_release(mpx_grid_cell *entry) noexcept {
    entry->file = nullptr;
    entry->next = g_grids.free_list;
    g_grids.free_list = entry;
}

void grid_cache_forget_file(const mpx_grid_file *grid) noexcept {
    mpx_grid_cell *before = nullptr;
    mpx_grid_cell *entry = g_grids.front;
    while (entry) {
        if (entry->file == grid) {
            grid_cache_release(unlink_after(before));
            entry = before ? before->next : g_grids.front;
        } else {
            before = entry;
            entry = entry->next;
        }
    }
}

int grid_cache_rank(const mpx_grid_file *grid, int cell_index) noexcept {
    int rank = 0;
    for (const mpx_grid_cell *entry = g_grids.front; entry; entry = entry->next, ++rank) {
        if (entry->file == grid && entry->cell_index == cell_index)
            return rank;
    }
    return -1;
}

int grid_cache_count() noexcept {
    int count = 0;
    for (const mpx_grid_cell *entry = g_grids.front; entry; entry = entry->next)
        ++count;
    return count;
}
