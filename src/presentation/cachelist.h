// The list under each resource cache: doubly linked nodes keyed by name, newest first.
// A list owns its nodes and the media in them; `release` frees one medium.
#pragma once

#include <cstdio>
#include <cstring>

template <typename Medium>
struct CacheNode {
    char name[64];            // the key; compared byte for byte; longer names are cut to 63 bytes
    Medium* handle;
    CacheNode* prev;          // the newer neighbour, null at the head
    CacheNode* next;          // the older neighbour, null at the tail
};

// Adds a node for handle under name in front of the list. Loading a name twice keeps both;
// the newer one is found first.
template <typename Medium>
void cachePush(CacheNode<Medium>*& head, const char* name, Medium* handle)
{
    auto* node = new CacheNode<Medium>;
    std::snprintf(node->name, sizeof node->name, "%s", name);
    node->handle = handle;
    node->prev = nullptr;
    node->next = head;
    if (head) head->prev = node;
    head = node;
}

// The newest node whose name equals name (compared as stored, so cut the same way), or null.
template <typename Medium>
CacheNode<Medium>* cacheFind(CacheNode<Medium>* head, const char* name)
{
    for (CacheNode<Medium>* node = head; node; node = node->next)
        if (std::strncmp(node->name, name, sizeof node->name - 1) == 0) return node;
    return nullptr;
}

// Removes the newest node of that name and releases its medium; nothing when there is none.
template <typename Medium>
void cacheRemove(CacheNode<Medium>*& head, const char* name, void (*release)(Medium*))
{
    CacheNode<Medium>* node = cacheFind(head, name);
    if (!node) return;
    if (node->next) node->next->prev = node->prev;
    if (node->prev) node->prev->next = node->next;
    else head = node->next;
    release(node->handle);
    delete node;
}

// Removes every node and releases every medium.
template <typename Medium>
void cacheClear(CacheNode<Medium>*& head, void (*release)(Medium*))
{
    while (head) {
        CacheNode<Medium>* next = head->next;
        release(head->handle);
        delete head;
        head = next;
        if (head) head->prev = nullptr;
    }
}
