// The content of Bramblemere: every charm, butterfly, bracelet message and gift phrase.
// Pictures named CHARM_<id> and BUTTERFLY_<id> are drawn from the `look` texts.
#include "Catalogue.h"

namespace Service {

const std::vector<CharmEntry>& Catalogue::Charms() {
    static const std::vector<CharmEntry> charms = {
        {1001, "Dewdrop Lantern", "Dewdrop Lantern Lamp",
         "a round glass drop glowing pale blue, hung on a green stem"},
        {1002, "Thimble Crown", "Thimble Crown Hat", "a silver thimble with five tiny points like a crown"},
        {1003, "Acorn Kettle", "Acorn Tea Kettle", "a brown acorn with a little spout and a curled handle"},
        {1004, "Moss Slipper", "Mossy Slippers", "a soft green slipper with a pink pompom"},
        {1005, "Pebble Moon", "Moonpebble Nightlight", "a smooth white pebble with a crescent carved in it"},
        {1006, "Fern Fan", "Unfurling Fern Fan", "a curled fern frond opening like a hand fan"},
        {1007, "Honey Spoon", "Honeycomb Spoon", "a golden spoon dripping a drop of honey"},
        {1008, "Snail Shell Horn", "Spiral Shell Horn", "a striped spiral shell used as a trumpet"},
        {1009, "Clover Kite", "Four-Leaf Kite", "a four-leaf clover kite with a ribbon tail"},
        {1010, "Pinecone Owl", "Pinecone Owl Statue", "a small pinecone with two round owl eyes"},
        {1011, "Rainbell", "Rainbell Wind Chime", "a blue bell flower with a raindrop clapper"},
        {1012, "Feather Quill", "Starling Feather Quill", "a speckled dark feather pen with an ink drop"},
        {1013, "Mushroom Stool", "Spotted Toadstool Stool", "a red toadstool with white spots, flat on top"},
        {1014, "Lily Pad Boat", "Lily Pad Rowboat", "a round green lily pad with a twig oar"},
        {1015, "Firefly Jar", "Firefly Jar Lamp", "a small jar with three yellow glowing dots inside"},
        {1016, "Button Shield", "Button Shield",
         "a large brown coat button with four holes, held like a shield"},
        {1017, "Walnut Cradle", "Walnut Shell Cradle", "half a walnut shell lined with a blue blanket"},
        {1018, "Poppy Parasol", "Poppy Petal Parasol",
         "an orange-red poppy flower upside down as an umbrella"},
        {1019, "Cobweb Hammock", "Dewy Cobweb Hammock",
         "a silver web strung between two twigs, beaded with dew"},
        {1020, "Seed Pearl Necklace", "Seed Pearl Necklace", "a loop of tiny cream pearls with a leaf clasp"},
        {1021, "Bramble Berry Basket", "Berry Basket", "a woven basket full of dark purple berries"},
        {1022, "Dandelion Wand", "Dandelion Puff Wand", "a white dandelion clock on a long stalk"},
        {1023, "Beetle Buggy", "Beetle Buggy Cart", "a shiny green beetle shell on four button wheels"},
        {1024, "Sunflower Clock", "Sunflower Wall Clock", "a yellow sunflower whose centre is a clock face"},
        {1025, "Icicle Flute", "Frost Flute", "a thin icicle with finger holes, pale blue"},
        {1026, "Ladybird Lamp", "Ladybird Table Lamp", "a red lamp shade with black spots"},
        {1027, "Hazelnut Drum", "Hazelnut Drum",
         "a hazelnut cut in half with a leaf skin and two twig sticks"},
        {1028, "Petal Skirt", "Rose Petal Skirt", "a skirt made of layered pink rose petals"},
        {1029, "Rowan Bow", "Rowan Berry Bow", "a red ribbon bow with three orange berries"},
        {1030, "Cloud Pillow", "Cloud Puff Pillow", "a fluffy white cloud shaped like a pillow"},
        {1031, "Starfall Compass", "Starfall Compass", "a brass compass whose needle is a tiny star"},
        {1032, "Bluebell Teacup", "Bluebell Teacup",
         "a blue bell flower turned up as a cup, on a leaf saucer"},
        {1033, "Willow Swing", "Willow Branch Swing", "a wooden seat hanging from two long willow strands"},
        {1034, "Raindrop Mirror", "Raindrop Hand Mirror",
         "an oval mirror shaped like a drop with a twig handle"},
        {1035, "Hedgehog Brush", "Hedgehog Hairbrush", "a round brush with bristles like a hedgehog's back"},
        {1036, "Glowworm Garland", "Glowworm Garland", "a string of small green-yellow lights"},
        {1037, "Daisy Chain Crown", "Daisy Chain Crown", "a ring of white daisies with yellow centres"},
        {1038, "Frog Prince Mug", "Frog Face Mug", "a green mug with a smiling frog face"},
        {1039, "Twilight Lantern", "Twilight Lantern", "a purple paper lantern with silver stars"},
        {1040, "Evenfall Key", "Evenfall Council Key", "an old golden key with a leaf-shaped bow"},
    };
    return charms;
}

const std::vector<ButterflyEntry>& Catalogue::Butterflies() {
    static const std::vector<ButterflyEntry> butterflies = {
        {1, 100, 3, "Meadow Flutter", "small, pale yellow wings with grey edges"},
        {2, 150, 3, "Blushwing", "pink wings with white dots"},
        {3, 200, 5, "Sky Sailor", "wide sky-blue wings with a dark blue border"},
        {4, 250, 5, "Ember Glider", "orange wings fading to red at the tips"},
        {5, 300, 7, "Mossback", "green wings veined like leaves"},
        {6, 400, 7, "Moonmoth", "large silver-white wings with a crescent mark on each"},
        {7, 500, 10, "Violet Dusk", "deep purple wings with gold speckles"},
        {8, 750, 14, "Rainbow Regent", "wings striped in every rainbow colour, with long tails"},
    };
    return butterflies;
}

const std::vector<PhraseEntry>& Catalogue::Messages() {
    static const std::vector<PhraseEntry> messages = {
        {1, "Let's fly to the Willow Pond together!"},
        {2, "You have the sparkliest wings I ever saw."},
        {3, "Want to collect dewdrops with me at dawn?"},
        {4, "Friends forever, from moss to moon!"},
        {5, "I saved you a seat on the toadstool."},
        {6, "Let's race the fireflies tonight."},
        {7, "Your laugh sounds like little bells."},
        {8, "Come and see my new garden house!"},
        {9, "Hooray, we touched bracelets!"},
        {10, "Let's build a leaf boat and sail away."},
        {11, "I will share my honey cakes with you."},
        {12, "Meet me under the big oak tomorrow."},
        {13, "Let's paint the clouds pink."},
        {14, "You are as kind as a summer breeze."},
        {15, "Shall we listen to the crickets sing?"},
        {16, "Bring your brightest smile!"},
        {17, "Let's find the hidden bluebell path."},
        {18, "I made you a daisy crown."},
        {19, "Together we glow brighter."},
        {20, "See you in Bramblemere, my friend!"},
    };
    return messages;
}

const std::vector<PhraseEntry>& Catalogue::Gifts() {
    static const std::vector<PhraseEntry> gifts = {
        {2001, "May your wings never get wet!"},
        {2002, "A hug as big as a mushroom!"},
        {2003, "Sweet dreams under the stars."},
        {2004, "Hop, skip and flutter!"},
        {2005, "Sunshine for your whole day."},
        {2006, "You sparkle like morning dew."},
        {2007, "Happy fluttering!"},
        {2008, "Three cheers for fairy friends!"},
        {2009, "Bumbles and bubbles!"},
        {2010, "Fly high, little friend."},
        {2011, "A basket of berry wishes."},
        {2012, "Giggles and glimmers!"},
        {2013, "Moss-soft greetings to you."},
        {2014, "Catch a rainbow today!"},
        {2015, "Twinkle, twinkle, fairy friend."},
        {2016, "Petals and puddles!"},
        {2017, "You are my favourite firefly."},
        {2018, "Whirl like a dandelion seed!"},
        {2019, "Cosy as a walnut cradle."},
        {2020, "Brave as a bramble knight!"},
        {2021, "Leafy high five!"},
        {2022, "A pocketful of starlight."},
        {2023, "Dance with the raindrops!"},
        {2024, "Honey-sweet hello!"},
        {2025, "Wishing on a clover."},
        {2026, "Glow on, bright friend."},
        {2027, "Splish, splash, lily pad dash!"},
        {2028, "Whistle like a wren!"},
        {2029, "Tea party at noon!"},
        {2030, "Goodnight from the glowworms."},
    };
    return gifts;
}

} // namespace Service
