// Placeholder until the card window core lands.
